#pragma once
// libmdb's header wraps its includes in extern "C"; glib must come first so that its C++ parts
// are not declared with C linkage.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>
