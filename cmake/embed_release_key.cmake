# cmake -DKEY=<public.pem> -DOUTPUT=<file> -P embed_release_key.cmake
# Writes the PEM public key as one C string literal, for build_config.cpp.
file(READ "${KEY}" pem)
# Base64 lines between the two markers, nothing that could end the literal.
if(NOT pem MATCHES "^-----BEGIN PUBLIC KEY-----\r?\n[A-Za-z0-9+/=\r\n]+-----END PUBLIC KEY-----\r?\n?$")
  message(FATAL_ERROR "${KEY} is not a PEM public key as `openssl ec -pubout` writes it")
endif()
file(STRINGS "${KEY}" lines)
set(text "")
foreach(line IN LISTS lines)
  string(APPEND text "    \"${line}\\n\"\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
