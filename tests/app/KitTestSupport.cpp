// The kit's themes are in force for every test of the application, as the
// program puts them in force at its start.
#include "dockkit/themes/DkKitThemes.h"

#include <gtest/gtest.h>

namespace {

class KitThemes final : public ::testing::Environment {
public:
    void SetUp() override { nexus_ = dk::CreateKitThemeNexus(); }
    void TearDown() override { nexus_.reset(); }

private:
    std::unique_ptr<TDkxNexus> nexus_;
};

[[maybe_unused]] ::testing::Environment* const kThemes =
    ::testing::AddGlobalTestEnvironment(new KitThemes);

} // namespace
