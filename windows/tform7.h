#pragma once

#include <QDialog>
#include <QString>

class TDnDListBox;

// The readme window: the lines of "Readme.Korvi" from the program's folder, read anew at every
// showing. Files dropped on the list are added for that showing only.
class TForm7 : public QDialog {
    Q_OBJECT

public:
    // programDir: where "Readme.Korvi" is read; empty means the program's own folder.
    explicit TForm7(QWidget* parent = nullptr, const QString& programDir = QString());

    TDnDListBox* DnDListBox1 = nullptr;

    // Replaces the list with the readme's lines; raises EFOpenError when it cannot be read and
    // then keeps the lines it had.
    void FormShow();

    QString ReadmePath() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString programDir_;
};
