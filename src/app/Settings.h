// The settings file CSLinfo.txt: line 1 the Workshop folder, line 2 the page prefix. Qt-free, so that the
// reader can be fed arbitrary bytes.
#pragma once

#include <string_view>

#include "text/Text.h"

namespace quorvane::app {

using text::Text;

struct Settings {
  Text workshopFolder;  // line 1
  Text pagePrefix;      // line 2
};

// A line ends at LF; a CR right before the LF is not part of it. A NUL or 0x1A byte ends the readable
// text. Missing lines read empty. Text that starts with a UTF-8 byte-order mark is UTF-8 and is
// converted to GBK.
Settings SettingsFromBytes(std::string_view bytes);

// The settings in the file at path (GBK); a file that cannot be read gives empty lines.
Settings ReadSettings(const Text& path);

}  // namespace quorvane::app
