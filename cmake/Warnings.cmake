# Every target of ours gets the same warning set.
function(ondrelle_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
endfunction()
