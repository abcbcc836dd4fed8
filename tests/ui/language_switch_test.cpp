#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "support/gui_test_main.h"
#include "files/ini_file.h"
#include "lang/language.h"
#include "lang/message_table.h"
#include "ui/address_dialog.h"
#include "ui/channels_page_widget.h"
#include "ui/coin_programming_window.h"
#include "ui/configuration_name_dialog.h"
#include "ui/erase_dialog.h"
#include "ui/firmware_window.h"
#include "ui/pin_dialog.h"
#include "ui/production_test_window.h"
#include "ui/selector_test_window.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

// One visible text and where it was found, so that a failure names the widget.
struct Shown {
  QString where;
  QString text;
};

void add(std::vector<Shown>& out, const QObject* object, const char* kind, const QString& text) {
  if (text.isEmpty()) return;
  out.push_back(
      {QString("%1 %2 (%3)").arg(object->metaObject()->className(), object->objectName(), kind),
       text});
}

// Every text a user can see on the windows and their children: titles, captions, tool tips,
// tab and menu texts, list items, column headings.
std::vector<Shown> all_texts(MainWindow& w) {
  std::vector<Shown> out;
  for (QWidget* window : std::initializer_list<QWidget*>{
           &w, w.firmware_window, w.coin_programming_window, w.erase_dialog,
           w.selector_test_window, w.production_test_window, w.address_dialog, w.pin_dialog,
           w.configuration_name_dialog}) {
    add(out, window, "title", window->windowTitle());
    QList<QObject*> objects = window->findChildren<QObject*>();
    objects.prepend(window);
    for (QObject* object : objects) {
      if (auto* widget = qobject_cast<QWidget*>(object)) add(out, widget, "tip", widget->toolTip());
      if (auto* label = qobject_cast<QLabel*>(object)) add(out, label, "text", label->text());
      if (auto* button = qobject_cast<QAbstractButton*>(object)) add(out, button, "text", button->text());
      if (auto* group = qobject_cast<QGroupBox*>(object)) add(out, group, "title", group->title());
      if (auto* menu = qobject_cast<QMenu*>(object)) add(out, menu, "title", menu->title());
      if (auto* action = qobject_cast<QAction*>(object)) {
        add(out, action, "text", action->text());
        add(out, action, "tip", action->toolTip());
      }
      if (auto* tabs = qobject_cast<QTabWidget*>(object)) {
        for (int i = 0; i < tabs->count(); ++i) add(out, tabs, "tab", tabs->tabText(i));
      }
      if (auto* combo = qobject_cast<QComboBox*>(object)) {
        for (int i = 0; i < combo->count(); ++i) add(out, combo, "item", combo->itemText(i));
      }
      if (auto* list = qobject_cast<QListWidget*>(object)) {
        for (int i = 0; i < list->count(); ++i) add(out, list, "item", list->item(i)->text());
      }
      if (auto* view = qobject_cast<QAbstractItemView*>(object); view && view->model()) {
        for (int c = 0; c < view->model()->columnCount(); ++c) {
          add(out, view, "column", view->model()->headerData(c, Qt::Horizontal).toString());
        }
      }
    }
  }
  return out;
}

bool in_table(int base, const QString& text) {
  const std::span<const MessageEntry> table = message_table(base);
  return std::any_of(table.begin(), table.end(), [&](const MessageEntry& entry) {
    return QString::fromUtf8(entry.text).trimmed() == text.trimmed();
  });
}

// The names and texts the installation's own files give (configurations,
// displays, io.ini's functions and notes...): the installer's words.
std::set<QString> installation_texts(const std::string& workdir) {
  std::set<QString> texts;
  for (const char* file : {kSettingsFileName, kIoFileName}) {
    const IniFile ini(workdir + "/" + file);
    for (const std::string& section : ini.section_names()) {
      texts.insert(QString::fromStdString(section));
      for (const auto& [key, value] : ini.section_entries(section)) {
        texts.insert(QString::fromStdString(key));
        texts.insert(QString::fromStdString(value));
      }
    }
  }
  return texts;
}

// Whether a text that reads the same in English and in the language of
// base may: it comes from that language's table (alone, or before the
// shortcut of a tool tip, or beside the protocol's own names), it names a
// language in that language, it has no words (numbers, hex, units), it is a
// file name, a signal name of the device ("PH1 ="), an entry of the ISO
// country list or a text of the device or the installation.
bool may_read_the_same(int base, const QString& text, const std::set<QString>& outside_texts) {
  static const QRegularExpression no_words(
      R"(^[\s\d.,:;/%+\-()#*x~=<>\[\]]*$|^(0x)?[0-9A-F]+$|^\d+K\d$)");
  static const QRegularExpression unit(R"(^(s|m|ms|Imp\.|Div\.|\.\.\.|\w)$)");
  static const QRegularExpression tool_tip(R"(^(.+) \((Ctrl\+\w|F\d+)\)$)");
  static const QRegularExpression signal(R"(^[A-Za-z]+\d*( S\d)? =$|^[A-Z]+\d*S\d =$)");
  static const QRegularExpression country(R"(^[A-Z]{2} - )");
  static const QRegularExpression protocol_names(R"(\b(ccTalk|CVF)\b)");
  if (in_table(base, text) || no_words.match(text).hasMatch() || unit.match(text).hasMatch() ||
      signal.match(text).hasMatch() || country.match(text).hasMatch() || text.contains('/') ||
      outside_texts.count(text) != 0) {
    return true;
  }
  for (const int other : {kEnglishBase, kItalianBase, kCroatianBase}) {
    if (text == QString::fromStdString(resource_text(other + msg::kLanguageName))) return true;
  }
  const QRegularExpressionMatch tip = tool_tip.match(text);
  if (tip.hasMatch()) return in_table(base, tip.captured(1));
  QString rest = text;
  rest.remove(protocol_names);
  return rest != text && (rest.trimmed().isEmpty() || in_table(base, rest));
}

}  // namespace

class LanguageSwitchTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { set_language_base(kEnglishBase); }

  // A text that reads the same in English and in the other language is a
  // literal the table does not hold, unless may_read_the_same allows it.
  void everyWindowSpeaksTheChosenLanguage() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    std::set<QString> outside_texts = installation_texts(bench.workdir);
    for (const auto& [caption, value] : bench.app.device_info()) {
      outside_texts.insert(QString::fromStdString(value));
    }

    const std::vector<Shown> english = all_texts(bench.window);
    QVERIFY(english.size() > 300);
    for (const int base : {kItalianBase, kCroatianBase}) {
      QVERIFY(bench.app.change_language(base));
      const std::vector<Shown> other = all_texts(bench.window);
      QCOMPARE(other.size(), english.size());
      QStringList literals;
      for (std::size_t i = 0; i < english.size(); ++i) {
        QCOMPARE(other[i].where, english[i].where);
        const QString& text = other[i].text;
        if (text != english[i].text) continue;
        if (may_read_the_same(base, text, outside_texts)) continue;
        literals << other[i].where + ": \"" + text + "\"";
      }
      QVERIFY2(literals.isEmpty(), qPrintable(QString("in %1: ").arg(base) + literals.join("\n")));
    }
  }

  // The list on the About page switches the windows and the log's explanations, and keeps
  // what the user typed unsaved.
  void aboutPageListKeepsUnsavedEdits() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    QSpinBox* parameter = bench.window.channels_page->record->parameters[0];
    parameter->setValue(parameter->value() == 40 ? 41 : 40);
    const int typed = parameter->value();

    bench.window.language_box->setCurrentIndex(1);
    emit bench.window.language_box->activated(1);
    QCOMPARE(bench.window.coin_programming_window->windowTitle(),
             QString::fromStdString(resource_text(kItalianBase + msg::kCoinsProgramming)));
    QCOMPARE(parameter->value(), typed);
    QVERIFY(bench.window.log.explanations().back().rfind("ricevuto ", 0) == 0);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::LanguageSwitchTest)
#include "language_switch_test.moc"
