#include "platform/registry.hpp"

#include "platform/error.hpp"

namespace tesvane {

void Registry::add(const std::string& name, int max_in, int max_out, CallableFn fn) {
    table_[name] = Entry{max_in, max_out, std::move(fn)};
}

Values Registry::call(AppContext& ctx, const std::string& name, const Values& in, int nout) const {
    auto it = table_.find(name);
    if (it == table_.end())
        throw Error("Undefined function " + name);
    const Entry& e = it->second;
    if (e.max_in != kAnyCount && static_cast<int>(in.size()) > e.max_in)
        throw Error("Too many input arguments to " + name);
    if (e.max_out != kAnyCount && nout > e.max_out)
        throw Error("Too many output arguments from " + name);
    return e.fn(ctx, in, nout);
}

std::vector<std::string> Registry::names() const {
    std::vector<std::string> out;
    for (const auto& [name, entry] : table_)
        out.push_back(name);
    return out;
}

}  // namespace tesvane
