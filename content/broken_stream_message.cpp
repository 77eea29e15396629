#include "content/broken_stream_message.h"

// Connected to the platform's message box once it exists.
void ShowBrokenStreamMessage() {}
