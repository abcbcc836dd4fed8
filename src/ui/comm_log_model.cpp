#include "ui/comm_log_model.h"

#include <QColor>
#include <QFontDatabase>

#include "lang/messages.h"
#include "ui/captions.h"

namespace qv82 {

QFont log_font() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // Where the named face is missing, the substitute is still monospaced:
  // the columns of hex bytes line up.
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

CommLogModel::CommLogModel(CommLog& log, QObject* parent)
    : QAbstractTableModel(parent),
      log_(log),
      rows_(static_cast<int>(log.size())),
      font_(log_font()) {
  // The log has changed by the time the observers run; rows_ is what the
  // views have been told, so each step is announced with a consistent count.
  log_.on_line_added = [this](bool dropped_oldest) {
    if (dropped_oldest && rows_ > 0) {
      beginRemoveRows({}, 0, 0);
      --rows_;
      endRemoveRows();
    }
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
    emit lineAdded();
  };
  log_.on_cleared = [this] {
    beginResetModel();
    rows_ = static_cast<int>(log_.size());
    endResetModel();
  };
}

void CommLogModel::explanations_changed() {
  emit headerDataChanged(Qt::Horizontal, kLineColumn, kExplanationColumn);
  if (rows_ > 0)
    emit dataChanged(index(0, kExplanationColumn), index(rows_ - 1, kExplanationColumn));
}

CommLogModel::~CommLogModel() {
  log_.on_line_added = nullptr;
  log_.on_cleared = nullptr;
}

QModelIndex CommLogModel::index(int row, int column, const QModelIndex& parent) const {
  return QAbstractTableModel::index(row, column, parent);
}

int CommLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CommLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant CommLogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const std::string& line = log_.lines()[row];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return QString::fromStdString(index.column() == kExplanationColumn ? log_.explanations()[row]
                                                                         : line);
    case Qt::ForegroundRole:
      return QColor(is_received_line(line) ? Qt::blue : Qt::red);
    case Qt::FontRole:
      return font_;
    default:
      return {};
  }
}

QVariant CommLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return message_text(section == kExplanationColumn ? msg::kExplanationColumn : msg::kFrameColumn);
}

}  // namespace qv82
