#pragma once

#include <QDialog>

// The base of the two tag editors. It loads the window once per showing: restoring it from the
// task bar is no new showing, so the user's unsaved edits stay. And it has no cancel key: Esc
// does nothing, since the editors have no cancel button either.
class TEditorDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Fills the window from the file it was given; run at every showing.
    virtual void FormShow() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
