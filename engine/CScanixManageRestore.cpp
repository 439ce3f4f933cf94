// The password-restore request of CScanixManage: it goes straight to the library by MAC;
// the store is not consulted.
#include "CScanixManage.h"
#include "MacText.h"
#include "Scanix_Search.h"

int CScanixManage::RestoreDefault(const char* mac)
{
    unsigned char bytes[6] = {};
    if (!ParseMac(mac, bytes)) {
        return 0;
    }
    return SCANIX_SET_DevRestoreDefault(bytes);
}
