#pragma once
#include "bkf_writer.h"

namespace fixture {
// The demo backup that scripts/run scans: two backup sets of a small
// machine, with folders, text files, a picture and a soft filemark.
BkfWriter DemoBackup();
}  // namespace fixture
