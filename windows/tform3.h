#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About window: title, what is new in this release and a dedication. Modal; created once at
// start-up and shown again on every request.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    // The modal result "Ok" carries, so the window ends even without its click handler.
    static constexpr int mrAll = 8;

    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label27 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label25 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* LabelMaker = nullptr;
    QLabel* LabelRights = nullptr;
    QPushButton* BitBtn1 = nullptr;

    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateStory();
    void CreateCredits();
};
