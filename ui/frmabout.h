// The About box: the program's title and version, a short description, credit and contact
// notes, the logo, OK and System Info.
#pragma once

#include "sysinfoplatform.h"

#include <QDialog>

class QLabel;
class QWidget;

namespace rigtune {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // System Info reaches the operating system through platform.
    explicit frmAbout(QWidget* owner, SysInfoPlatform& platform = nativeSysInfoPlatform());

    // Looks up the system's information program and starts it, or says it is unavailable.
    void StartSysInfo();

private:
    void createControls();
    void load();

    SysInfoPlatform& platform_;
    // Set by load(); every showing is a new box, so they are set for each.
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
};

// Loads a new About box and shows it modal over owner; returns once it has been closed, and the
// box is gone by then.
void showAboutBox(QWidget* owner);

} // namespace rigtune
