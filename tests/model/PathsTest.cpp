#include "model/Paths.h"

#include <gtest/gtest.h>

namespace zv::model {
namespace {

TEST(Paths, SplitAtTheLastSlashOfEitherKind) {
    EXPECT_EQ(FolderOf("/home/u/cars/car.vrl"), "/home/u/cars");
    EXPECT_EQ(FileNameOf("/home/u/cars/car.vrl"), "car.vrl");
    EXPECT_EQ(FolderOf("C:\\Games\\scgt/cars\\CAR.VRL"), "C:\\Games\\scgt/cars");
    EXPECT_EQ(FileNameOf("C:\\Games\\scgt/cars\\CAR.VRL"), "CAR.VRL");
    EXPECT_EQ(FolderOf("car.vrl"), "");
    EXPECT_EQ(FileNameOf("car.vrl"), "car.vrl");
}

TEST(Paths, ExtensionIsTheTextAfterTheLastDot) {
    EXPECT_EQ(StripExtension("car.body.vrl"), "car.body");
    EXPECT_EQ(StripExtension("README"), "README");
    EXPECT_EQ(StripExtension(".vrl"), "");
}

TEST(Paths, UpperCasingTouchesAsciiLettersOnly) {
    EXPECT_EQ(UpperAscii("/tmp/Car_1.vrl"), "/TMP/CAR_1.VRL");
    EXPECT_EQ(UpperAscii("\xe9t\xe9"), "\xe9T\xe9");
}

} // namespace
} // namespace zv::model
