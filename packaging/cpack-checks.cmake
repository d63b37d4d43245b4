# Read by cpack. Without dpkg-shlibdeps cpack quietly leaves the libraries
# out of Depends, and the package would install but not start.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps is missing: apt-get install dpkg-dev file")
endif()
