# Linking the sanitized test programs is a large share of a build: lld links
# them about three times faster than the default linker, so it is used
# where the toolchain has it.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" ONDRELLE_HAVE_LLD)
if(ONDRELLE_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()
