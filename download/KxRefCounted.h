// The reference counting moved to base/ so that the worker thread object
// there can use it too; this name stays for the download code's includes.
#pragma once

#include "base/KxRefCounted.h"
