#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

class WebBrowser;

// Opens a bank account: posts a new thread whose first post is the account
// post, through the forum's own new-thread form loaded in WBCreate, and reads
// the post back from its edit page.
class frmAccountCreate : public QDialog {
    Q_OBJECT
public:
    // The edit page of a thread's first post, as the manager asks for it.
    using EditAddressOfThread = std::function<QString(const QString& threadNumber)>;

    // Modal to the manager only, so that the member list it opens can be used meanwhile.
    frmAccountCreate(QStringList accountNames, EditAddressOfThread editAddressOf, QWidget* manager);

    WebBrowser& WBCreate() { return *WBCreate_; }

    enum PostState { FormNotLoaded = 0, FormLoaded = 1234, FormSubmitted = 4321 };
    int postState() const { return postState_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Cancel and Escape

private:
    void WBCreate_DocumentComplete();
    void cmdOK_Click();
    void cmdSearchUser_Click();
    void ComboGalleons_Click();
    void ComboGalleons_Change(const QString& text);
    QString coinValue(const QComboBox& box, const QString& caption) const;
    bool entriesAccepted();
    void showAnswerAndClose();

    const QStringList accountNames_; // of the board, as the manager lists them
    const EditAddressOfThread editAddressOf_;
    int postState_ = FormNotLoaded;

    QGroupBox* Frame1;
    QLineEdit* TextName;
    QLineEdit* TextUser;
    QPushButton* cmdSearchUser;
    QComboBox* ComboGalleons;
    QComboBox* ComboSickles;
    QComboBox* ComboKnuts;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    WebBrowser* WBCreate_;
};
