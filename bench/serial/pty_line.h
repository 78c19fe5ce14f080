/* A pseudo-terminal pair standing in for a serial line: the contenders open
   the slave by path, the benchmark holds the master. */
#ifndef PTY_LINE_H
#define PTY_LINE_H

#include <string>

class PtyLine {
public:
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;

    int master() const { return master_; }
    const std::string &slavePath() const { return slavePath_; }

private:
    int master_;
    std::string slavePath_;
};

#endif
