/* The least a program can do for the command-line mode's work: split the eight fields and
   write the same twenty lines with fopen/fprintf into lib/ beside the program. */
#include <libgen.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    char *fields[8];
    int n = 0;
    for (char *p = argv[1]; n < 8; ++n) {
        fields[n] = p;
        char *sep = strstr(p, ":::");
        if (!sep) {
            ++n;
            break;
        }
        *sep = '\0';
        p = sep + 3;
    }
    if (n < 8)
        return 2;
    char exe[PATH_MAX];
    const ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (len < 0)
        return 1;
    exe[len] = '\0';
    const char *dir = dirname(exe);
    char path[PATH_MAX];
    snprintf(path, sizeof path, "%s/lib/%s_%s.tsy", dir, fields[3], fields[0]);
    char password[256];
    size_t i = 0;
    for (; fields[6][i] && i < sizeof password - 1; ++i)
        password[i] = (char)(fields[6][i] ^ 0xA7);
    password[i] = '\0';
    FILE *f = fopen(path, "wb");
    if (!f)
        return 1;
    fprintf(f,
            "SatelliteAppln=%s\r\nldbp=%s\r\ndsn=%s\r\ndatabase=%s\r\ndbmachinename=%s\r\nuser=%s\r\n"
            "savepass=1\r\npassword=%s\r\nautologin=1\r\nlhbuscomponent=%s\r\nlogdirectory=%s/log\r\n"
            "webdirectory=\r\ntablequeuetimer=\r\ntimer=\r\ngridcols=\r\npaneratio=\r\ncurrenttable=\r\n"
            "screen=\r\nbatchsize=100\r\ndelay=30\r\n",
            fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], password, fields[7], dir);
    return fclose(f) == 0 ? 0 : 1;
}
