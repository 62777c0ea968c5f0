#include "platform/random.hpp"

namespace tesvane {

UniformStream& process_random() {
    static UniformStream stream;
    return stream;
}

double rand_uniform() {
    return process_random().next();
}

void set_random_seed(std::uint64_t seed) {
    process_random().seed(seed);
}

}  // namespace tesvane
