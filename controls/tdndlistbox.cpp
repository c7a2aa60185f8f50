#include "controls/tdndlistbox.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QUrl>

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "platform/filenames.h"
#include "platform/tapplication.h"
#include "platform/tlinefile.h"

namespace {

// Paints the lines: the toolkit's own way for a standard box, the owner's OnDrawItem (or the
// plain default) at the fixed item height for an owner-drawn one.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(TDnDListBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (box_->Style() != lbOwnerDrawFixed) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) {
            state |= odSelected;
        }
        if (option.state & QStyle::State_HasFocus) {
            state |= odFocused;
        }
        // The canvas comes prepared as a list box hands it over: its font, and the highlight
        // colours for a selected line.
        const QPalette& colours = box_->palette();
        const bool selected = state.testFlag(odSelected);
        painter->save();
        painter->setFont(box_->font());
        painter->setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setBrush(colours.brush(selected ? QPalette::Highlight : QPalette::Base));
        if (box_->OnDrawItem) {
            guarded(box_->OnDrawItem, box_)(box_, *painter, index.row(), option.rect, state);
        } else {
            box_->DefaultDrawItem(*painter, index.row(), option.rect, state);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (box_->Style() == lbOwnerDrawFixed) {
            size.setHeight(box_->ItemHeight());
        }
        return size;
    }

private:
    TDnDListBox* box_;
};

QString IndexError(int index) {
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

}  // namespace

TDnDListBox::TDnDListBox(QWidget* parent) : QListView(parent), lines_(new QStringListModel(this)) {
    setModel(lines_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);  // a held button moves the selection, as in a plain list box
    setAcceptDrops(true);
    setUniformItemSizes(true);
    setItemDelegate(new OwnerDrawDelegate(this));
}

// ---- drops ----------------------------------------------------------------------------------

void TDnDListBox::DoFileDropped(const QString& FileName) {
    bool accept = true;
    if (OnFileDropped) {
        OnFileDropped(this, FileName, accept);
    }
    if (autoAdd_ && accept) {
        Add(FileName);
    }
}

bool TDnDListBox::TakesDrop(const QMimeData* mime) const {
    if (!isVisible() || !isEnabled() || !mime || !mime->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

void TDnDListBox::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TDnDListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (TakesDrop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TDnDListBox::dropEvent(QDropEvent* event) {
    if (!TakesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            files << NameFromUrl(url);  // the whole path, however long, byte for byte
        }
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The files are handled from the event loop once the drop has returned, so the file manager's
    // drag ends at once, whatever the handler does (open a file, show an error). An error in a
    // handler ends the drop: the later files are neither reported nor added.
    QMetaObject::invokeMethod(this,
                              guarded(
                                  [this, files] {
                                      for (const QString& file : files) {
                                          DoFileDropped(file);
                                      }
                                  },
                                  this),
                              Qt::QueuedConnection);
}

// ---- lines ----------------------------------------------------------------------------------

QStringListModel& TDnDListBox::Own() const {
    if (model() != lines_) {
        throw std::logic_error("The list box shows another model; it is edited there");
    }
    return *lines_;
}

int TDnDListBox::Count() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QString TDnDListBox::Strings(int index) const {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range(IndexError(index).toStdString());
    }
    return model()->index(index, modelColumn(), rootIndex()).data(textRole_).toString();
}

// A line is replaced as a list box does it: deleted and inserted again at its place, so both
// events fire; the selection stays where it was.
void TDnDListBox::SetStrings(int index, const QString& text) {
    QStringListModel& lines = Own();
    if (index < 0 || index >= Count()) {
        throw std::out_of_range(IndexError(index).toStdString());
    }
    if (OnDeleteString) {
        OnDeleteString(this);
    }
    if (OnInsertString) {
        OnInsertString(this);
    }
    lines.setData(lines.index(index), text);
}

QStringList TDnDListBox::Lines() const {
    QStringList lines;
    const int count = Count();
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        lines << Strings(i);
    }
    return lines;
}

int TDnDListBox::Add(const QString& text) {
    QStringListModel& lines = Own();
    if (OnAddString) {
        OnAddString(this);
    }
    const int row = lines.rowCount();
    lines.insertRows(row, 1);
    lines.setData(lines.index(row), text);
    return row;
}

// Index -1 appends, as the list box's own insert does.
void TDnDListBox::Insert(int index, const QString& text) {
    QStringListModel& lines = Own();
    if (OnInsertString) {
        OnInsertString(this);
    }
    if (index == -1) {
        index = lines.rowCount();
    }
    if (index < 0 || index > lines.rowCount()) {
        throw std::out_of_range("Unable to insert a line");
    }
    lines.insertRows(index, 1);
    lines.setData(lines.index(index), text);
}

// Deleting a line that is not there changes nothing.
void TDnDListBox::Delete(int index) {
    QStringListModel& lines = Own();
    if (OnDeleteString) {
        OnDeleteString(this);
    }
    if (index >= 0 && index < lines.rowCount()) {
        lines.removeRows(index, 1);
    }
}

void TDnDListBox::Clear() {
    Own().setStringList({});
}

void TDnDListBox::Exchange(int index1, int index2) {
    const QString first = Strings(index1);
    const QString second = Strings(index2);
    SetStrings(index1, second);
    SetStrings(index2, first);
}

int TDnDListBox::IndexOf(const QString& text) const {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (Strings(i).compare(text, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

// ---- text files -----------------------------------------------------------------------------

void TDnDListBox::LoadFromFile(const QString& path) {
    Own();
    // Read fully first, so a failure leaves the lines as they were.
    QStringList lines;
    TLineFile::Read(path, [&lines](std::string_view line) {
        // A path that is not UTF-8 keeps its bytes, so the entry names the same file.
        lines << NameFromNative(
            QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size())));
    });
    Clear();
    if (OnAddString) {
        for (const QString& line : lines) {
            Add(line);
        }
        return;
    }
    // Nobody listens for single lines: the model takes them all at once, which a long list needs
    // to load quickly.
    lines_->setStringList(lines);
}

void TDnDListBox::SaveToFile(const QString& path) const {
    TLineFile file(path);
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const QByteArray line = NativeOrText(Strings(i));
        file.Add(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    }
    file.Commit();
}

// ---- selection and drawing ------------------------------------------------------------------

int TDnDListBox::ItemIndex() const {
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TDnDListBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count()) {
        clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(index, modelColumn(), rootIndex()),
                                      QItemSelectionModel::ClearAndSelect);
}

int TDnDListBox::ItemAtPos(const QPoint& pos, bool existing) const {
    const QModelIndex index = indexAt(pos);
    if (index.isValid()) {
        return index.row();
    }
    return existing ? -1 : Count();
}

void TDnDListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) {
        return;
    }
    style_ = style;
    doItemsLayout();
    viewport()->update();
}

void TDnDListBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) {
        return;
    }
    itemHeight_ = height;
    doItemsLayout();
    viewport()->update();
}

void TDnDListBox::DefaultDrawItem(QPainter& canvas, int index, const QRect& rect,
                                  TOwnerDrawState state) const {
    canvas.fillRect(rect, canvas.brush());
    if (index >= 0 && index < Count()) {
        canvas.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, Strings(index));
    }
    if (state.testFlag(odFocused)) {
        QPen pen(canvas.pen().color());
        pen.setDashPattern({1.0, 1.0});
        canvas.setPen(pen);
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

// ---- mouse and keys -------------------------------------------------------------------------

// Only the left button moves the selection, as in a plain list box; the mouse-down event comes
// after the box has moved it.
void TDnDListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QListView::mousePressEvent(event);
    } else {
        event->accept();
    }
    clickPending_ = event->button() == Qt::LeftButton;
    if (OnMouseDown) {
        const QPoint at = event->position().toPoint();
        guarded(OnMouseDown, this)(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TDnDListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QListView::mouseReleaseEvent(event);
    } else {
        event->accept();
    }
    const QPoint at = event->position().toPoint();
    const bool click =
        clickPending_ && event->button() == Qt::LeftButton && viewport()->rect().contains(at);
    clickPending_ = false;
    if (click && OnClick) {
        guarded(OnClick, this)(this);
    }
    if (OnMouseUp) {
        guarded(OnMouseUp, this)(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TDnDListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QListView::mouseDoubleClickEvent(event);
        if (OnDblClick) {
            guarded(OnDblClick, this)(this);
        }
    } else {
        event->accept();
    }
    if (OnMouseDown) {
        const QPoint at = event->position().toPoint();
        guarded(OnMouseDown, this)(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TDnDListBox::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown) {
        guarded(OnKeyDown, this)(this, key, event->modifiers());
    }
    if (key == 0) {
        event->accept();
    } else {
        QListView::keyPressEvent(event);
    }
}

// As in a plain list box, deleting the selected line leaves no selection behind (the view would
// otherwise select its neighbour).
void TDnDListBox::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    const int selected = ItemIndex();
    QListView::rowsAboutToBeRemoved(parent, start, end);
    if (selected >= start && selected <= end) {
        clearSelection();
    }
}
