#include "base/single_instance.h"
#include "window/application.h"

namespace {

// Made before anything else runs, so that a second copy finds the name taken at once.
const norvane::SingleInstanceGuard g_singleInstance;

}  // namespace

int main(int argc, char** argv) {
    norvane::CNorvaneCRCToolApp application(argc, argv, g_singleInstance);
    application.InitInstance();
    return 0;
}
