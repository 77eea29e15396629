#pragma once
// The one thing the loader tells the user itself: a lesson stream that ran out
// before its document was complete ("UnCompress() buffer error!", no owner
// window, the platform's default caption, an OK button; returns once the user
// has closed it).

void ShowBrokenStreamMessage();
