# Pictures: cairo draws into 32-bit pixels and writes PNG files, FreeType reads the glyphs of
# the font files that platform/gdi/font_files.h locates. Both come from Debian packages that
# scripts/setup installs (libcairo2-dev, libfreetype-dev, fonts-dejavu-core).
# Targets: PkgConfig::CAIRO and Freetype::Freetype.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
find_package(Freetype REQUIRED)
