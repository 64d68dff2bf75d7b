// Deletes an installed copy from its folder tree while sparing what belongs
// to the user: notes, fonts, desktops, list files and user-made modules.
#pragma once
#include <string>

// Purges `directory` (never removed itself) and, by the same rules, every
// subdirectory it does not spare, which it then removes. A subdirectory that
// still holds entries afterwards stays; the purge goes on with the rest.
void PurgeDirectory(const std::string& directory);
