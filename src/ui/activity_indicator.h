#pragma once

#include <QTimer>
#include <QWidget>

namespace qv82 {

// The busy picture of the bottom panel: a ring of dots that turns while a
// transfer runs and stands grey otherwise.
class ActivityIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit ActivityIndicator(QWidget* parent = nullptr);

  void start();
  void stop();
  bool animated() const { return timer_.isActive(); }

  QSize sizeHint() const override { return {32, 32}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr int kDots = 12;
  QTimer timer_;
  int step_ = 0;
};

}  // namespace qv82
