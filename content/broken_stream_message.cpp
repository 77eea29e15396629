#include "content/broken_stream_message.h"

#include "platform/constants.h"
#include "platform/msgbox.h"

void ShowBrokenStreamMessage() {
  pf::MessageBox(nullptr, u"UnCompress() buffer error!", nullptr, pf::kBoxOk);
}
