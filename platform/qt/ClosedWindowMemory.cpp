#include "platform/qt/ClosedWindowMemory.h"

#include <QPixmapCache>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseClosedWindowMemory() {
    QPixmapCache::clear();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
