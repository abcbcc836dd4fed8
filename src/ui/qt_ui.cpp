#include "ui/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "lang/language.h"
#include "ui/captions.h"
#include "ui/password_dialog.h"

namespace qv82 {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// A message box whose title and buttons speak the current language.
int show_box(QWidget* parent, QMessageBox::Icon icon, int title, const std::string& text,
             QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, q(language_text(title)), q(text), buttons, parent);
  name_standard_buttons(&box);
  return box.exec();
}

}  // namespace

QtUi::QtUi(QWidget* parent) : parent_(parent) {}

QtUi::~QtUi() {
  while (wait_depth_ > 0) wait_cursor(false);
  if (password_dialog_ && !password_dialog_->parent()) delete password_dialog_.data();
  if (section_tree_dialog_ && !section_tree_dialog_->parent()) delete section_tree_dialog_.data();
}

void QtUi::error(const std::string& text) {
  show_box(parent_, QMessageBox::Critical, msg::kErrorTitle, text, QMessageBox::Ok);
}

void QtUi::information(const std::string& text) {
  show_box(parent_, QMessageBox::Information, msg::kInformationTitle, text, QMessageBox::Ok);
}

Answer QtUi::question(const std::string& text, Buttons buttons) {
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  switch (buttons) {
    case Buttons::Ok:
      break;
    case Buttons::YesNo:
      set = QMessageBox::Yes | QMessageBox::No;
      break;
    case Buttons::YesNoCancel:
      set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
    case Buttons::OkCancel:
      set = QMessageBox::Ok | QMessageBox::Cancel;
      break;
  }
  switch (show_box(parent_, QMessageBox::Question, msg::kConfirmTitle, text, set)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      // A box closed by its title bar or Escape counts as the safe answer.
      return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

PasswordDialog& QtUi::password_dialog() {
  if (!password_dialog_) password_dialog_ = new PasswordDialog(parent_);
  return *password_dialog_;
}

std::optional<std::string> QtUi::password(const std::string& caption, const std::string& note,
                                          const Validator& validate) {
  return password_dialog().ask(q(caption), q(note), validate);
}

SectionTreeDialog& QtUi::section_tree_dialog() {
  if (!section_tree_dialog_) section_tree_dialog_ = new SectionTreeDialog(parent_);
  return *section_tree_dialog_;
}

bool QtUi::choose_sections(const std::string& caption, ParameterTree& tree) {
  SectionTreeDialog& dialog = section_tree_dialog();
  dialog.show_changes = section_changes;
  const bool ok = dialog.execute(q(caption), tree);
  dialog.show_changes = nullptr;
  return ok;
}

void QtUi::show_lines(const std::string& caption, const std::vector<std::string>& lines) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(q(caption));
  dialog.resize(760, 360);
  auto* text = new QPlainTextEdit(&dialog);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  for (const std::string& line : lines) text->appendPlainText(q(line));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(text, 1);
  layout->addWidget(buttons);
  name_standard_buttons(&dialog);
  dialog.exec();
}

std::optional<std::size_t> QtUi::choose_item(const std::string& caption,
                                             const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) texts << q(item);
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(q(caption));
  dialog.setLabelText(q(caption));
  dialog.setComboBoxItems(texts);
  dialog.setComboBoxEditable(false);
  dialog.setOkButtonText(message_text(msg::kOk));
  dialog.setCancelButtonText(message_text(msg::kCancel));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString chosen = dialog.textValue();
  const auto index = texts.indexOf(chosen);
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

std::optional<std::string> QtUi::open_file(const std::string& filter) {
  const QString name = QFileDialog::getOpenFileName(parent_, q(language_text(msg::kOpenFile)),
                                                    QString(), dialog_filter(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<std::string> QtUi::save_file(const std::string& filter) {
  // The dialog asks before an existing file is overwritten.
  const QString name =
      QFileDialog::getSaveFileName(parent_, q(language_text(msg::kSaveToFile)), QString(),
                                   dialog_filter(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void QtUi::wait_cursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++wait_depth_;
  } else if (wait_depth_ > 0) {
    QApplication::restoreOverrideCursor();
    --wait_depth_;
  }
}

QString dialog_filter(const std::string& filter) {
  const QStringList parts = q(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    const QString description =
        q(translated_form(parts[i].trimmed().toStdString()));
    const QString shown = "(" + patterns.join(' ') + ")";
    // "Corvanti u record (*.u19)" names its pattern already.
    entries << (description.endsWith(shown) ? description : description + " " + shown);
  }
  return entries.join(";;");
}

}  // namespace qv82
