// Help from the windows and the about box.
#include "editor/help_ops.h"

#include <Xm/MessageB.h>

#include <string>

#include "app/glosset.h"
#include "dict/hanja_util.h"
#include "dtb/dt/help_volume.h"
#include "dtb/dtb_utils.h"
#include "ui/catalog_text.h"
#include "ui/gl_main_ui.h"

void show_context_help(Widget widget, const char *location) {
  std::string path = dt::find_help_volume(kHelpVolume);
  std::optional<dt::HelpVolume> volume;
  if (!path.empty()) volume = dt::load_help_volume(path);
  const dt::HelpTopic *topic = volume ? volume->find(location) : nullptr;
  if (topic == nullptr) {
    // The general help window names what is missing, in the user's language.
    dtb_show_help_volume_info(const_cast<char *>(kHelpVolume), const_cast<char *>(location));
    return;
  }
  std::string text = dt::utf8_to_locale(topic->title + "\n\n" + topic->body);
  std::string volume_name = kHelpVolume, location_id = location;
  DtbHelpData help{text.data(), volume_name.data(), location_id.data()};
  dtb_help_dispatch(widget, &help, nullptr);  // the quick-help dialog copies what it shows
}

void show_usage_help() {
  dtb_show_help_volume_info(const_cast<char *>(kHelpVolume), const_cast<char *>(kHelpHome));
}

namespace {
std::string dictionary_path(int type) {
  char path[kPathSize];
  get_dicname(type, path);
  return path;  // bytes of the file system, shown as they are
}

// Name, version and licence, the two dictionary files and the input method,
// in the running mode's encoding (file names as the file system has them).
std::string about_text() {
  std::string im = glosset_input_method_name();
  if (im.empty()) im = catalog_text(25, "Xlib \xc0\xda\xc3\xbc \xc0\xd4\xb7\xc2\xb1\xe2");  // Xlib 자체 입력기
  const std::string licence = catalog_text(26, "\xbb\xe7\xbf\xeb \xc7\xe3\xb0\xa1");      // 사용 허가
  const std::string user = catalog_text(12, "\xbb\xe7\xbf\xeb\xc0\xda \xbb\xe7\xc0\xfc");  // 사용자 사전
  const std::string system = catalog_text(11, "\xbd\xc3\xbd\xba\xc5\xdb \xbb\xe7\xc0\xfc");  // 시스템 사전
  const std::string input = catalog_text(24, "\xc0\xd4\xb7\xc2\xb1\xe2");  // 입력기
  return "glosset " GLOSSET_VERSION "\n" + licence + ": BSD-3-Clause\n\n" + user + ": " + dictionary_path(0) + "\n" +
         system + ": " + dictionary_path(1) + "\n" + input + ": " + im;
}

}  // namespace

void show_about() {
  // A record made for each showing: the dialog keeps copies of its texts, and
  // the texts follow the running mode.
  DtbMessageRecord about{};
  about.initialized = True;
  about.dialog_type = XmDIALOG_INFORMATION;
  about.title = catalog_xmstring(23, "\xc1\xa4\xba\xb8");  // 정보
  std::string text = about_text();
  about.message = XmStringCreateLocalized(text.data());
  about.action1_label = catalog_xmstring(19, "\xc8\xae\xc0\xce");  // 확인
  about.default_button = DTB_DEFAULT_ACTION1;
  dtb_show_message(dtb_gl_main_mainwindow.mainwindow, &about, nullptr, nullptr);
  for (XmString s : {about.title, about.message, about.action1_label}) XmStringFree(s);
}
