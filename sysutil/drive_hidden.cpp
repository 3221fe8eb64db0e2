// Whether the user's Explorer policy hides a drive: the NoDrives value holds
// one bit per letter, A in bit 0 of the first byte.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"

using namespace sysutil_detail;

int drive_hidden(const char* drive)
{
    if (!drive || !*drive)
        return 0;
    char letter = drive[0];
    if (letter == '/')
        letter = drive_letter_of(drive);
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z')
        return 0;   // only letters have a bit
    unsigned char bits[256] = {};
    const std::size_t got = read_no_drives(bits, sizeof bits);
    const std::size_t n = static_cast<std::size_t>(letter - 'A');
    return n / 8 < got && ((bits[n / 8] >> (n % 8)) & 1) ? 1 : 0;
}
