// quillon-decode: the helper process that decodes one picture per run, so
// that the libraries it calls never run inside the window's process.
#include "decode_request.h"

int main(int argc, char** argv) { return picture::RunDecodeHelper(argc, argv); }
