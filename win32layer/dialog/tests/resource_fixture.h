/* The panel's resources as the build compiled them. */
#ifndef WIN32LAYER_TESTS_RESOURCE_FIXTURE_H
#define WIN32LAYER_TESTS_RESOURCE_FIXTURE_H

#include <stdint.h>

#include <fstream>
#include <iterator>
#include <vector>

inline std::vector<uint8_t> LoadPanelResources()
{
    std::ifstream file(PANEL_RESOURCES, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

#endif
