# KIVO_SANITIZE=address,undefined or KIVO_SANITIZE=thread instruments every target.
set(KIVO_SANITIZE "" CACHE STRING "Sanitizers to build with (address,undefined | thread)")
if(KIVO_SANITIZE)
  add_compile_options(-fsanitize=${KIVO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${KIVO_SANITIZE})
endif()
