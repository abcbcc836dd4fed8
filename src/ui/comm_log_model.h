#pragma once

#include <QAbstractListModel>
#include <QFont>

#include "link/comm_log.h"

namespace qv82 {

// The communication log as a list for the view: received lines blue, every
// other line red, all in a fixed-pitch font. It follows the log's additions
// and removals as they happen.
class CommLogModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit CommLogModel(CommLog& log, QObject* parent = nullptr);
  ~CommLogModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  CommLog& log() { return log_; }

 signals:
  // A line was appended at the end (the view scrolls to it).
  void lineAdded();

 private:
  CommLog& log_;
  int rows_;
  QFont font_;
};

}  // namespace qv82
