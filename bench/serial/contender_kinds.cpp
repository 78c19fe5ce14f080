#include "contender.h"

const std::vector<ContenderKind> &ContenderKinds()
{
    static const std::vector<ContenderKind> kinds = {
        {"ours", MakeOurContender},
        {"plain", MakePlainContender},
        {"libserialport", MakeLibserialportContender},
    };
    return kinds;
}
