#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class WebBrowser;

// Opens a bank account: posts a new thread whose first post is the account
// post, through the forum's own new-thread form loaded in WBCreate.
class frmAccountCreate : public QDialog {
    Q_OBJECT
public:
    explicit frmAccountCreate(QWidget* parent = nullptr);

    WebBrowser& WBCreate() { return *WBCreate_; }

    enum PostState { FormNotLoaded = 0, FormLoaded = 1234, FormSubmitted = 4321 };
    int postState() const { return postState_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WBCreate_DocumentComplete();
    void cmdOK_Click();
    void cmdSearchUser_Click();
    void ComboGalleons_Click();
    void ComboGalleons_Change(const QString& text);
    QString coinValue(const QComboBox& box, const QString& caption) const;

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
