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
    // Bytes the value does not reach stay 0: a short value hides nothing more.
    unsigned char bits[256] = {};
    if (!read_key_value(bits, sizeof bits, nullptr, "NoDrives",
                        "Software Microsoft Windows CurrentVersion Policies Explorer",
                        HKEY_CURRENT_USER))
        return 0;
    const unsigned n = static_cast<unsigned>(letter - 'A');
    return (bits[n / 8] >> (n % 8)) & 1;
}
