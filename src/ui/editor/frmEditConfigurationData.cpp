// The editor's data flow: the file into the controls and the record, change detection,
// and Save with its checks.
#include "ui/editor/frmEditConfiguration.h"

#include "app/Session.h"
#include "config/ConfigFormat.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "ui/SaveLoadedFile.h"
#include "ui/EditorRules.h"
#include "ui/dialogs/AskNewConfigFileName.h"
#include "ui/editor/EditorLineEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

namespace {

// The product code of an application choice; "" for the empty entry and for no selection.
QString ProductCodeOf(const Product *product) { return product ? QString::number(product->code) : QString(); }

int PositionOfProductCode(const QString &code)
{
    const Product *product = ProductSpelledBy(code);
    return product ? int(product - Products.data()) + 1 : 0;
}

QString Flag(const QCheckBox *box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

bool IsWholeOne(const QString &value) { return Vb::RoundHalfEven(Vb::Val(value)) == 1.0; }

} // namespace

Result<void> frmEditConfiguration::LoadConfiguration(const QString &ConfigFilePath)
{
    // Every load starts from a new configuration: a key the file lacks takes its default,
    // never the value of the file opened before.
    m_config = ConfigRecord();
    InitializePC();
    m_loadIncomplete = false;
    if (ConfigFilePath.isEmpty())
        return {};
    ConfigRecord &config = m_config;
    auto loadError = [this](int number, const QString &what) {
        m_loadIncomplete = true;
        return Failure{number, what};
    };
    // What was read is what a save later compares the file with.
    m_loaded = FileIo::FileVersion();
    const Result<FileIo::FileVersion> file = FileIo::ReadVersion(ConfigFilePath);
    if (file && !file.value().exists)
        return loadError(ErrorNumber::FileNotFound,
                         m_session.Text("CS_EDITOR_NO_FILE", QDir::toNativeSeparators(ConfigFilePath)));
    if (!file)
        return loadError(file.error().number, m_session.Text("CS_EDITOR_NOTHING_READ", m_session.Text(file.error().Text())));
    m_loaded = file.value();
    const QString text = Ansi::Decode(m_loaded.bytes);

    // Each key read shows at once, in the order of the file: choosing the application runs
    // its rule, which a later platform line may then overrule.
    const ConfigFormat::RecordRead read =
        ConfigFormat::ReadRecord(text, &config, [&](QString ConfigRecord::*field) {
            const QString &value = config.*field;
            if (field == &ConfigRecord::SatelliteAppln)
                ComboApplication->setCurrentIndex(PositionOfProductCode(value));
            else if (field == &ConfigRecord::ldbp)
                ComboPlatform->setCurrentIndex(IsWholeOne(value) ? 0 : 1);
            else if (field == &ConfigRecord::savepass)
                ChkSavePass->setChecked(ConfigFormat::IsFlagSet(value));
            else if (field == &ConfigRecord::autologin)
                ChkAutoLogin->setChecked(IsWholeOne(value));
            // The keys shown in a text box; the other keys of the record only set their field.
            for (const TextField &text : TextFields()) {
                if (text.member == field)
                    (this->*text.box)->setText(value);
            }
        });
    // Earlier lines keep what they set; the rest of the file is not read.
    if (!read.complete())
        return loadError(ErrorNumber::InvalidValue,
                         m_session.Text("CS_EDITOR_LINE_NOT_READ", QString::number(read.stopLine), read.stopText,
                                        QString::number(read.unreadLines)));
    return {};
}

void frmEditConfiguration::ReportLoadError(const Failure &error)
{
    m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0167")) + QStringLiteral("\n\n") + m_session.Text(error.Text()),
                     MsgIcon::None, MsgButtons::Ok);
}

void frmEditConfiguration::InitializePC()
{
    ConfigRecord &config = m_config;
    // A new configuration has no application until the user picks one.
    config.SatelliteAppln.clear();
    config.autologin = QStringLiteral("0");
    config.savepass = QStringLiteral("0");
    config.ldbp = QString::number(FirstPlatform);
    CopyTextsTo(config);
    ApplyNewConfigurationDefaults(config);
}

QString frmEditConfiguration::PlatformCode() const { return QString::number(EditorRules::ChosenPlatform(*ComboPlatform)); }

void frmEditConfiguration::ApplyControlsTo(ConfigRecord &record) const
{
    record.SatelliteAppln = ProductCodeOf(ChosenProduct());
    record.autologin = Flag(ChkAutoLogin);
    record.savepass = Flag(ChkSavePass);
    record.ldbp = PlatformCode();
    CopyTextsTo(record);
}

void frmEditConfiguration::CopyTextsTo(ConfigRecord &record) const
{
    for (const TextField &field : TextFields())
        record.*field.member = Vb::Trim((this->*field.box)->text());
}

bool frmEditConfiguration::ConfigDataChanged()
{
    const ConfigRecord &config = m_config;
    bool changed = false;
    for (const TextField &field : TextFields()) {
        const QString typed = (this->*field.box)->text();
        changed |= (field.comparedAsTyped ? typed : Vb::Trim(typed)) != config.*field.member;
    }
    changed |= Flag(ChkAutoLogin) != config.autologin;
    changed |= Flag(ChkSavePass) != config.savepass;
    changed |= PlatformCode() != config.ldbp;
    changed |= ProductCodeOf(ChosenProduct()) != config.SatelliteAppln;
    return changed;
}

QString frmEditConfiguration::WhyFieldsNotWritable(const ConfigRecord &record)
{
    const QString why = m_session.Text(ConfigFormat::WhyNotWritable(record));
    if (why.isEmpty())
        return why;
    // Find the field to name it as the window shows it and to put the user there.
    for (const TextField &field : TextFields()) {
        ConfigRecord alone;
        alone.*field.member = record.*field.member;
        alone.savepass = record.savepass;
        const QString fieldWhy = m_session.Text(ConfigFormat::WhyNotWritable(alone));
        if (!fieldWhy.isEmpty()) {
            TSConfig->setCurrentIndex(field.tab);
            (this->*field.box)->setFocus();
            return (this->*field.label)->text() + QStringLiteral(": ") + fieldWhy;
        }
    }
    return why;
}

bool frmEditConfiguration::SaveConfiguration()
{
    // The record as it will be written; the window's record takes it only once it is on disk.
    ConfigRecord updated = m_config;
    ApplyControlsTo(updated);
    const QString refused = WhyFieldsNotWritable(updated);
    if (!refused.isEmpty()) {
        m_session.MsgBox(this, refused, MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }

    // A file that was not read to its end would lose its unread lines: only on request.
    if (m_loadIncomplete && !m_path.isEmpty() && QFileInfo::exists(m_path)) {
        const QString question =
            m_session.Text("CS_EDITOR_SAVE_INCOMPLETE", QDir::toNativeSeparators(m_path));
        if (m_session.MsgBox(this, question, MsgIcon::Exclamation, MsgButtons::YesNoDefaultNo) != MsgResult::Yes)
            return false;
    }

    QString path = m_path;
    if (path.isEmpty()) {
        const std::optional<QString> named = AskNewConfigFileName(m_session, this);
        if (!named)
            return false;
        path = *named;
        // The user has agreed to replace what stands under that name now, and only that.
        const Result<FileIo::FileVersion> there = FileIo::ReadVersion(path);
        if (!there) {
            m_session.MsgBox(this, WriteFailureText() + QStringLiteral("\n\n") + m_session.Text(there.error().Text()),
                             MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
        m_loaded = there.value();
    }
    SaveLoadedFile::Request request;
    request.path = path;
    request.loaded = &m_loaded;
    request.compose = [&updated](const FileIo::FileVersion &) { return ConfigFormat::Format(updated); };
    request.failureText = WriteFailureText();
    switch (SaveLoadedFile::Save(m_session, this, request)) {
    case SaveLoadedFile::Outcome::Saved:
        m_path = path;
        m_savedPath = path;
        m_config = updated;
        m_loadIncomplete = false;
        return true;
    case SaveLoadedFile::Outcome::ShowTheirs: ReloadFromFile(path); return false;
    case SaveLoadedFile::Outcome::NotSaved: return false;
    }
    return false;
}

QString frmEditConfiguration::WriteFailureText() const
{
    return m_session.GetText(QStringLiteral("SLBL0356"));
}

void frmEditConfiguration::ReloadFromFile(QString path)
{
    // The form as a new configuration shows it, then the file: nothing typed here survives,
    // not even in a field whose key their version lacks.
    for (const TextField &field : TextFields())
        (this->*field.box)->clear();
    txtconnection->setText(QStringLiteral("cn=<mycomponent>, o=<myroot>"));
    txtLog->setText(m_session.DefaultLogDirectory());
    ComboApplication->setCurrentIndex(0);
    ComboPlatform->setCurrentIndex(0);
    ChkSavePass->setChecked(false);
    ChkAutoLogin->setChecked(false);
    if (const Result<void> loaded = LoadConfiguration(path); !loaded)
        ReportLoadError(loaded.error());
    SetDatabaseLabels();
}

bool frmEditConfiguration::RequiredFieldsGiven()
{
    auto missing = [this](QWidget *field, const QLabel *label, const char *how) {
        GoToField(field);
        QString name = label->text();
        if (name.endsWith(u':'))
            name.chop(1);
        m_session.MsgBox(this, m_session.Text(how, name), MsgIcon::Critical, MsgButtons::Ok);
        return false;
    };
    if (ComboApplication->currentIndex() <= 0)
        return missing(ComboApplication, lblAppln, "CS_EDITOR_CHOOSE");
    // The server console cannot log on without these.
    for (const TextField &field : TextFields()) {
        if (field.required && Vb::Trim((this->*field.box)->text()).isEmpty())
            return missing(this->*field.box, this->*field.label, "CS_EDITOR_ENTER");
    }
    return true;
}

void frmEditConfiguration::cmdOK_Click()
{
    if (const Product *product = ChosenProduct(); product && product->hasWebDirectory) {
        const QString refusal = EditorRules::WebDirectoryRefusal(m_session, txtwebdirectory->text());
        if (!refusal.isEmpty()) {
            GoToField(txtwebdirectory);
            m_session.MsgBox(this, refusal, MsgIcon::Critical, MsgButtons::Ok);
            return;
        }
    }
    if (!ConfigDataChanged()) {
        accept();
        return;
    }
    if (RequiredFieldsGiven() && SaveConfiguration())
        accept();
}

void frmEditConfiguration::cmdCancel_Click() { reject(); }

const Product *frmEditConfiguration::ChosenProduct() const
{
    // The empty entry, then the products in table order.
    const int position = ComboApplication->currentIndex();
    return position > 0 && position <= int(Products.size()) ? &Products[position - 1] : nullptr;
}
