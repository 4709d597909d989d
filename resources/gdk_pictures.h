#pragma once
// The embedded pictures decoded by gdk-pixbuf, for the GTK host.

typedef struct _GdkPixbuf GdkPixbuf;

// The picture of that file name, owned by the caller; null when it is missing or undecodable.
GdkPixbuf* LoadEmbeddedPicture(const char* fileName);
