#include "code_page.h"

#include <windows.h>

#include "text.h"

void UseSystemCodePage() {
  bool isLead[256] = {};
  for (int lead = 0x80; lead < 256; ++lead) isLead[lead] = IsDBCSLeadByte(static_cast<BYTE>(lead)) != 0;
  SetLeadBytes(isLead);
}
