#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include "link/comm_log.h"

namespace qv82 {

// The font of the log and of the terminal line: the platform's fixed-pitch
// font, so that the bytes of the lines stand in columns.
QFont log_font();

// The communication log for the view: the raw line, and beside it what the
// line means. Received lines blue, every other line red, all in a
// fixed-pitch font. It follows the log's additions and removals as they
// happen.
class CommLogModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CommLogModel(CommLog& log, QObject* parent = nullptr);
  ~CommLogModel() override;

  static constexpr int kLineColumn = 0;
  static constexpr int kExplanationColumn = 1;

  // The raw line unless a column is given.
  QModelIndex index(int row, int column = kLineColumn,
                    const QModelIndex& parent = {}) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  CommLog& log() { return log_; }
  // The log's explanations and the headings are in another language now.
  void explanations_changed();

 signals:
  // A line was appended at the end (the view scrolls to it).
  void lineAdded();

 private:
  CommLog& log_;
  int rows_;
  QFont font_;
};

}  // namespace qv82
