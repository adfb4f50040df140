#pragma once
// Every id of the string table the code names, in one place. The texts themselves live in
// strings.cpp; an id here without a text there reads as "".

namespace pelkorl::text {

} // namespace pelkorl::text
