#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

class WebBrowser;

// The About box: title, version, description, the donation button page, the
// system-information launcher and, while the debug log exists, its button.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout();

    // Runs at every opening: captions, version, the Log button and the page.
    void Form_Load();

    const WebBrowser& browser() const { return *WebBrowser1; }

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdLog_Click();
    void WebBrowser1_Click();
    void StartSysInfo();
    void showDonationPage();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    WebBrowser* WebBrowser1;
    QToolButton* WebBrowser1View; // shows the page's donation button
    QFrame* Line1[2];
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    QPushButton* cmdLog;
};
