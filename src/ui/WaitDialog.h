#pragma once

class LocalisedText;

// Shows every wait for work on a worker thread (see platform/Worker.h) as a small modal
// window over the window in front: what is waited for, the seconds so far, and Cancel
// (Escape and closing the window cancel too), in the texts given (the built-in English
// without).
void InstallWaitDialog(LocalisedText *texts = nullptr);
