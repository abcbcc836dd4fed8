#include "ui/channels_page_widget.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "channels/channels_page.h"
#include "config/working_images.h"
#include "lang/language.h"

namespace qv82 {

namespace {

QString text_of(int number) { return QString::fromStdString(language_text(number)).trimmed(); }

}  // namespace

ChannelsPageWidget::ChannelsPageWidget(ChannelsPage& model, WorkingImages& images, QWidget* parent)
    : QWidget(parent), model_(model), images_(images) {
  setObjectName("ChannelsPage");
  channel_group = new QGroupBox(this);
  channel_number_box = new QSpinBox(channel_group);
  channel_number_box->setRange(1, kChannelCount);
  (new QHBoxLayout(channel_group))->addWidget(channel_number_box);

  record = new ChannelRecordEditor(kChannelsPageStyle, this);

  auto* layout = new QVBoxLayout(this);
  auto* upper = new QHBoxLayout;
  upper->addWidget(channel_group);
  upper->addStretch();
  layout->addLayout(upper);
  layout->addWidget(record);
  layout->addStretch();

  connect(channel_number_box, &QSpinBox::valueChanged, this, [this](int m) {
    if (!rendering_) change_channel(m);
  });
  connect(record, &ChannelRecordEditor::edited, this, &ChannelsPageWidget::edited);

  init_language();
  refresh();
}

void ChannelsPageWidget::init_language() {
  channel_group->setTitle(text_of(msg::kChannel));
  record->init_language();
}

void ChannelsPageWidget::refresh() {
  rendering_ = true;
  channel_number_box->setValue(model_.channel_number);
  record->show_view(model_.view);
  rendering_ = false;
}

void ChannelsPageWidget::edited() {
  model_.view = record->view();
  model_.mark_modified();
}

void ChannelsPageWidget::change_channel(int m) {
  images_.loaded_sections |= model_.change_channel(m);
  refresh();
}

}  // namespace qv82
