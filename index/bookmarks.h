#pragma once
// Bookmarks: the list of bookmarked lessons in AppState (Bookmarks,
// BookmarkCount, BookmarkPromptBits) and its stored form, the binary setting
// "Bookmarks": the lesson numbers as 16-bit little-endian values in the order
// added, then a 16-bit 0.
//
// In memory the list is an array of BookmarkCount entries followed by a 0
// entry, owned by App (null when nothing is stored). It never holds a lesson
// twice and holds no 0 before its end.

// Reads "Bookmarks" into the list, once at start-up. A stored value that lacks
// its terminating 0 entry, has an odd size or holds a 0 early is taken up to
// its first 0 entry (or its end), and the list in memory always gets its 0
// entry, so nothing ever reads past the storage.
void LoadBookmarks();
// Writes the list as "Bookmarks" (two 0 bytes when there is none). A failed
// write is ignored.
void SaveBookmarks();
// Releases the list.
void FreeBookmarks();

// 1 when the current lesson is in the list, else 0.
int IsBookmarked();
// Adds the current lesson at the end unless it is there already. Out of memory:
// nothing is added and nothing is said.
void AddBookmark();
// Drops every entry of the current lesson; the others keep their order.
void RemoveBookmark();
// Adds the current lesson when `bookmarked` is 0; otherwise removes it, after
// asking "Remove Bookmark?" unless the user asked not to be asked again.
void ToggleBookmark(int bookmarked);
