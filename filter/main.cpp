// Entry point of the qorpstops CUPS filter.
#include "qorpstops.h"

int main(int argc, char* argv[]) {
    return qor::qorpstopsMain(argc, argv);
}
