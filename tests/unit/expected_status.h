/* The panel's status texts, built here from UTF-8 and converted to the
   panel's code page, so that the tests do not restate the source's bytes. */
#ifndef EXPECTED_STATUS_H
#define EXPECTED_STATUS_H

#include <string>

/* utf8 in code page 932 (Shift_JIS); fails the test if iconv cannot. */
std::string ToCp932(const std::string &utf8);

/* The status text command id shows for result value. */
std::string ExpectedStatus(int id, int value);

#endif
