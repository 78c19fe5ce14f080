/* Counts the line-settings, modem-line and write(2) calls the code under
   test makes while a LayerCalls object is alive (ioctl and write are
   wrapped for the whole test program; outside a recording they only pass
   through). A pty forces 8 data bits and no parity onto its line, so the
   record the layer asked for is kept too. */
#ifndef TESTS_INTEGRATION_LAYER_CALLS_H
#define TESTS_INTEGRATION_LAYER_CALLS_H

class LayerCalls {
public:
    LayerCalls();
    ~LayerCalls();
    LayerCalls(const LayerCalls &) = delete;
    LayerCalls &operator=(const LayerCalls &) = delete;

    int lineReads() const;    /* TCGETS2 and the older TCGETS */
    int lineWrites() const;   /* TCSETS2 and the older TCSETS family */
    int modemCalls() const;   /* TIOCMBIS, TIOCMBIC, TIOCMSET */
    int writes() const;       /* write(2) on any descriptor */
    /* c_cflag and c_iflag of the last TCSETS2 record. */
    unsigned lastCflag() const;
    unsigned lastIflag() const;
};

#endif
