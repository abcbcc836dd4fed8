#pragma once

#include <QDialog>
#include <string>

#include "app/ini_file.h"
#include "diagnostics/production_test.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qv82 {

class CoinSelector;

// "Factory test": the production test of one device per "Start", or of
// device after device in "Loop", against the limits in Production.ini.
class TFtFrm : public QDialog {
  Q_OBJECT

 public:
  // production_ini is the path of Production.ini in the working directory.
  TFtFrm(CoinSelector& coin, const std::string& production_ini, QWidget* parent = nullptr);

  void init_language();
  ProductionTest& model() { return model_; }

  QRadioButton* RadioButton1;  // "Single"
  QRadioButton* RadioButton2;  // "Loop"
  QPushButton* Button2;        // "Start"
  QPushButton* Button1;        // "Close"
  QListWidget* ListBox1;
  QFrame* Panel1;
  QLabel* Label1;
  QTimer* Timer84;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void RadioButton1Click();
  void Button2Click();
  void Button1Click();
  void Timer84Timer();
  void render();
  void sync_timer();

  IniFile limits_file_;
  ProductionTest model_;
  bool busy_ = false;
  bool closing_ = false;
};

}  // namespace qv82
