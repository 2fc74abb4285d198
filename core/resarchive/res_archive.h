#pragma once
// res.raw resource archives.
