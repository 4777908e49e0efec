#include "frmAbout.h"

#include "AboutTexts.h"
#include "ApplicationTitle.h"
#include "Dialogs.h"
#include "DonationPage.h"
#include "OsServices.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "frmLog.h"

namespace {

// System-information programs of the usual Linux desktops, most detailed first.
const QStringList SystemInformationPrograms = {
    "kinfocenter",         "hardinfo2",         "hardinfo", "gnome-system-monitor",
    "mate-system-monitor", "xfce4-taskmanager", "lxtask",
};

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

} // namespace

frmAbout::frmAbout()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      WebBrowser1(new class WebBrowser(this)) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    const platform::Twips twips(*this);
    setFixedSize(twips.size(5730, 3555));

    picIcon = label(this, "picIcon", QString(), twips.rect(120, 120, 1620, 1410));
    picIcon->setPixmap(QPixmap(":/zentab.png")
                           .scaled(picIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picIcon->setAlignment(Qt::AlignCenter);
    lblTitle = label(this, "lblTitle", QString(), twips.rect(1890, 240, 3045, 480));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    lblTitle->setFont(bold);
    lblVersion = label(this, "lblVersion", "Version", twips.rect(1770, 780, 3165, 225));
    lblDescription = label(this, "lblDescription",
                           "A fan's tool, made to tally the money of a fictional world of "
                           "books and films.",
                           twips.rect(1890, 1125, 3045, 690));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = lblDescription->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblDescription->setFont(small);

    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1View = new QToolButton(this);
    WebBrowser1View->setObjectName("WebBrowser1View");
    // The page's image button, drawn as a button of the box: its picture lives
    // with the payment service, which the About box does not contact. It sits within the
    // page's place, below the description, whose last line it would otherwise cover.
    WebBrowser1View->setGeometry(twips.rect(3840, 1935, 1695, 375));
    WebBrowser1View->setAccessibleName("Donate"); // until the page names it
    WebBrowser1View->setEnabled(false);
    connect(WebBrowser1View, &QToolButton::clicked, this, &frmAbout::WebBrowser1_Click);
    connect(WebBrowser1, &WebBrowser::DocumentComplete, this, &frmAbout::showDonationPage);

    // An etched separator: a white line under a grey one.
    const int lineTops[] = {2460, 2445};
    const char* const lineColours[] = {"white", "grey"};
    for (int i = 0; i < 2; ++i) {
        Line1[i] = new QFrame(this);
        Line1[i]->setObjectName(QStringLiteral("Line1_%1").arg(i));
        Line1[i]->setGeometry(twips.px(100), twips.px(lineTops[i]), twips.px(5554), 1);
        Line1[i]->setStyleSheet(QStringLiteral("background: %1;").arg(lineColours[i]));
    }

    // Wider than designed, to the left, so that today's fonts leave the caption room.
    cmdOK = button(this, "cmdOK", "OK", twips.rect(4125, 2625, 1380, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = button(this, "cmdSysInfo", "&System Info...", twips.rect(4125, 3075, 1380, 345));
    cmdLog = button(this, "cmdLog", "Log", twips.rect(120, 2160, 735, 255));
    cmdLog->setAccessibleName("Show or hide the debug log");
    cmdLog->hide();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(cmdLog, &QPushButton::clicked, this, &frmAbout::cmdLog_Click);
    // Esc closes the box like OK does.
    connect(this, &QDialog::rejected, this, &frmAbout::close);
}

void frmAbout::Form_Load() {
    const QString title = platform::applicationTitle();
    setWindowTitle("About " + title);
    lblVersion->setText(
        about::versionText(ZENTAB_VERSION_MAJOR, ZENTAB_VERSION_MINOR, ZENTAB_VERSION_REVISION));
    lblTitle->setText(title);
    cmdLog->setVisible(platform::findOpenWindow("frmLog") != nullptr);
    WebBrowser1->Navigate("about:blank");
}

void frmAbout::showDonationPage() {
    if (WebBrowser1->LocationURL() != "about:blank")
        return;
    HtmlDocument page = WebBrowser1->Document();
    page.write(about::donationPage());
    page.setBgColor(about::ColorToRGB(palette().color(QPalette::Window)));

    const QList<HtmlElement> inputs = page.getElementsByTagName("input");
    for (const HtmlElement& input : inputs) {
        if (input.getAttribute("type") == "image") {
            WebBrowser1View->setText("Donate");
            WebBrowser1View->setToolTip(input.getAttribute("alt"));
            WebBrowser1View->setAccessibleName(input.getAttribute("alt"));
            WebBrowser1View->setEnabled(true);
        }
    }
}

void frmAbout::WebBrowser1_Click() {
    // The page's form opens in a new window: the user's own web browser.
    const auto submission = WebBrowser1->Document().forms(0).submission();
    if (!submission || !platform::openPostInDefaultBrowser(submission->url, submission->body))
        Log("The donation page could not be opened in the web browser");
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    // There is no system registry on this platform to name the tool, so the
    // desktop's own system-information program is looked for on the PATH.
    const QString program = platform::findProgramOnPath(SystemInformationPrograms);
    if (program.isEmpty() || !platform::startProgram(program))
        platform::MsgBox("System Information Is Unavailable At This Time", platform::vbOKOnly);
}

void frmAbout::cmdLog_Click() {
    if (frmLog::isShown())
        frmLog::instance().hide();
    else
        frmLog::instance().show();
}
