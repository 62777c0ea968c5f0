// The table of callable functions: every routine a window callback, a menu entry or a script
// may call by name, with its number of inputs and outputs.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/session.hpp"

namespace tesvane {

struct AppContext;

using Values = std::vector<SessionValue>;
// Called with the inputs and the number of outputs asked for.
using CallableFn = std::function<Values(AppContext&, const Values& in, int nout)>;

inline constexpr int kAnyCount = -1;

class Registry {
  public:
    void add(const std::string& name, int max_in, int max_out, CallableFn fn);
    bool has(const std::string& name) const { return table_.count(name) > 0; }
    // Calls `name`; an Error for an unknown name or for more inputs or outputs than registered.
    Values call(AppContext& ctx, const std::string& name, const Values& in, int nout = 0) const;
    std::vector<std::string> names() const;

  private:
    struct Entry {
        int max_in, max_out;
        CallableFn fn;
    };
    std::map<std::string, Entry> table_;
};

}  // namespace tesvane
