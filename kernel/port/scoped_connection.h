// A connection from a context, closed on every way out.
#pragma once

#include "port/framing.h"
#include "tarvo/types.h"

namespace tarvo {

class ScopedConnection {
  public:
    explicit ScopedConnection(LineContext& context) { ConnOpen(context, conn_); }
    ~ScopedConnection() { close(); }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;

    Connection& conn() { return conn_; }
    // Closes now; returns PCU_OK or the result of ConnClose. Later calls return PCU_OK.
    int close() {
        if (!opened_)
            return PCU_OK;
        opened_ = false;
        return ConnClose(conn_);
    }

  private:
    Connection conn_;
    bool opened_ = true;
};

}  // namespace tarvo
