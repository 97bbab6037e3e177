/* Linked into every Windows program: the C run-time then opens files in
   binary mode unless told otherwise, as on POSIX. In text mode it would turn
   "\n" into "\r\n" and jobs would not arrive byte-exact. (The compiler's own
   binmode.o is meant to do this but comes empty with Debian's mingw-w64.) */
#include <fcntl.h>

int _fmode = _O_BINARY;
