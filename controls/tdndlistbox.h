#pragma once

#include <QFlags>
#include <QListView>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QStringListModel;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

enum TOwnerDrawStateFlag { odSelected = 0x01, odFocused = 0x02 };
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// A list box of text lines that takes files dropped from the file manager (text/uri-list, local
// files only, in the order given, paths whole). Each dropped path goes to OnFileDropped and,
// with AutoAdd, is appended unless the handler refuses it; that happens from the event loop just
// after the drop is accepted. A hidden box takes no drops.
//
// Edit the lines through Add, Insert, Delete, Clear, SetStrings and Exchange: these fire
// OnAddString, OnInsertString and OnDeleteString before the change, so a handler still sees the
// old contents. LoadFromFile and SaveToFile read and write the lines as a text file.
//
// The box shows its own lines unless it is given another model (setModel): it then shows that
// model's rows, the text of each in TextRole, and only reads them; the edits above belong to the
// box's own lines and raise std::logic_error meanwhile.
class TDnDListBox : public QListView {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TDnDListBox* sender)>;
    // accept is true on entry; set it false to keep AutoAdd from appending this file.
    using TFileDropped = std::function<void(TDnDListBox* sender, QString FileName, bool& accept)>;
    using TDrawItemEvent = std::function<void(TDnDListBox* control, QPainter& canvas, int index,
                                              const QRect& rect, TOwnerDrawState state)>;
    using TMouseEvent = std::function<void(TDnDListBox* sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;
    // key is a Qt::Key code; set it to 0 to keep the list box from handling the key.
    using TKeyEvent =
        std::function<void(TDnDListBox* sender, int& key, Qt::KeyboardModifiers shift)>;

    explicit TDnDListBox(QWidget* parent = nullptr);

    bool AutoAdd() const { return autoAdd_; }
    void SetAutoAdd(bool autoAdd) { autoAdd_ = autoAdd; }

    // The per-file step of a drop: OnFileDropped, then the append when AutoAdd and accepted.
    virtual void DoFileDropped(const QString& FileName);

    // The lines.
    int Count() const;
    QString Strings(int index) const;
    void SetStrings(int index, const QString& text);
    QStringList Lines() const;
    int Add(const QString& text);
    void Insert(int index, const QString& text);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    int IndexOf(const QString& text) const;

    // Text file of lines: the locale's 8-bit text (UTF-8), every line ending in CR LF. Reading
    // takes CR, LF or CR LF and replaces the contents. A missing or unreadable file raises
    // EFOpenError, a file that cannot be written EFCreateError; the old file is then untouched.
    void LoadFromFile(const QString& path);
    void SaveToFile(const QString& path) const;

    // Selected line, or -1 when none is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Index of the line under a point of the client area; -1 (existing) or Count (not) when none.
    int ItemAtPos(const QPoint& pos, bool existing) const;

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The model role that holds a row's text: Qt::DisplayRole unless set.
    int TextRole() const { return textRole_; }
    void SetTextRole(int role) { textRole_ = role; }

    TFileDropped OnFileDropped;
    TNotifyEvent OnAddString;
    TNotifyEvent OnInsertString;
    TNotifyEvent OnDeleteString;
    TDrawItemEvent OnDrawItem;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;

    // Draws one line as a plain list box does; used when owner-drawn without OnDrawItem.
    void DefaultDrawItem(QPainter& canvas, int index, const QRect& rect,
                         TOwnerDrawState state) const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    bool TakesDrop(const QMimeData* mime) const;
    // The box's own lines, or std::logic_error while it shows another model.
    QStringListModel& Own() const;

    bool autoAdd_ = true;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    int textRole_ = Qt::DisplayRole;
    bool clickPending_ = false;
    QStringListModel* lines_;
};
