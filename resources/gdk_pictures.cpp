#include "resources/gdk_pictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "resources/embedded_pictures.h"

GdkPixbuf* LoadEmbeddedPicture(const char* fileName) {
    const EmbeddedBytes bytes = EmbeddedPicture(fileName);
    if (bytes.size == 0) return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GdkPixbuf* picture = nullptr;
    if (gdk_pixbuf_loader_write(loader, bytes.bytes, bytes.size, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr)) {
        picture = gdk_pixbuf_loader_get_pixbuf(loader);
        if (picture) g_object_ref(picture);
    } else {
        gdk_pixbuf_loader_close(loader, nullptr);
    }
    g_object_unref(loader);
    return picture;
}
