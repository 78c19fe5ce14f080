/* The DCB members a settings word may change, and everything else. */
#ifndef DCB_GOVERNED_H
#define DCB_GOVERNED_H

#include <windows.h>

#include <cstring>

/* dcb with every member the settings word governs set to zero. */
inline DCB WithoutGovernedMembers(DCB dcb)
{
    dcb.BaudRate = 0;
    dcb.ByteSize = 0;
    dcb.Parity = 0;
    dcb.StopBits = 0;
    dcb.ErrorChar = 0;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fRtsControl = 0;
    return dcb;
}

/* The record has no padding, so comparing bytes compares every member. */
static_assert(sizeof(DCB) == 28, "DCB layout changed: revisit the comparison");

/* True when a and b differ at most in members the settings word governs. */
inline bool SameUngovernedMembers(const DCB &a, const DCB &b)
{
    DCB x = WithoutGovernedMembers(a);
    DCB y = WithoutGovernedMembers(b);
    return std::memcmp(&x, &y, sizeof x) == 0;
}

#endif
