#include "platform/winapi/qt/FileNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

namespace winapi {
namespace {

// The room a name's label asks of its layout at the most, in characters: a short name shows
// whole, so its window keeps the size it had.
constexpr int kNameRoom = 40;
constexpr const char* kWholeName = "wholeName";
constexpr const char* kEliderName = "NameElider";

// Cuts the label's name again whenever the label's width or font changes. Until the label has
// a width of its own (a window not shown yet) the name stands whole.
class NameElider : public QObject {
 public:
  explicit NameElider(QLabel* label) : QObject(label), sized_(label->isVisible()) {
    setObjectName(kEliderName);
    label->installEventFilter(this);
  }

  void Show(QLabel* label) const {
    const QString whole = label->property(kWholeName).toString();
    label->setText(sized_ ? label->fontMetrics().elidedText(whole, Qt::ElideMiddle, label->contentsRect().width())
                          : whole);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) sized_ = true;
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
      Show(static_cast<QLabel*>(watched));
    return false;
  }

 private:
  bool sized_;
};

// Items take their column's width, whatever their text, so the view cuts them; an item
// without a tooltip of its own shows its whole text as one.
class NameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {1, QStyledItemDelegate::sizeHint(option, index).height()};
  }

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || index.data(Qt::ToolTipRole).isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
    return true;
  }
};

}  // namespace

QString ShownName(const std::string& name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::string NameBytes(const QString& name) { return name.toUtf8().toStdString(); }

bool NameReadsBack(const std::string& name) { return NameBytes(ShownName(name)) == name; }

void ShowName(QLabel* label, const QString& text) {
  label->setProperty(kWholeName, text);
  label->setToolTip(text);
  auto* elider = static_cast<NameElider*>(label->findChild<QObject*>(kEliderName, Qt::FindDirectChildrenOnly));
  if (elider == nullptr) {
    elider = new NameElider(label);
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
  }
  // A label of fixed width keeps it; any other asks for the name's room up to its limit.
  if (label->minimumWidth() != label->maximumWidth()) {
    const QFontMetrics metrics = label->fontMetrics();
    const QMargins margins = label->contentsMargins();
    label->setMinimumWidth(std::min(metrics.horizontalAdvance(text),
                                    metrics.horizontalAdvance(QString(kNameRoom, 'x'))) +
                           margins.left() + margins.right() + 2 * label->frameWidth());
  }
  elider->Show(label);
}

QString WholeName(const QLabel* label) {
  const QVariant whole = label->property(kWholeName);
  return whole.isValid() ? whole.toString() : label->text();
}

void FitNames(QAbstractItemView* view) {
  view->setTextElideMode(Qt::ElideMiddle);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setItemDelegate(new NameDelegate(view));
}

void FitNames(QComboBox* box, int characters) {
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(characters);
  FitNames(box->view());
  box->setToolTip(box->currentText());
  QObject::connect(box, &QComboBox::currentTextChanged, box, [box](const QString& text) { box->setToolTip(text); });
}

}  // namespace winapi
