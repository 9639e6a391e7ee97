#include "platform/kernel/kernel_sim.h"
#include "qorvexdata_module.h"

#include <gtest/gtest.h>

#include "platform/kernel/module.h"

namespace {

template <typename Proc>
bool Bind(HMODULE module, const char* name, Proc* proc) {
  *proc = reinterpret_cast<Proc>(GetProcAddress(module, name));
  EXPECT_NE(*proc, nullptr) << name;
  return *proc != nullptr;
}

}  // namespace

bool LoadQorvexData(QorvexDataExports* dll) {
  dll->module = LoadLibraryW(u"qorvexdata.dll");
  EXPECT_NE(dll->module, nullptr) << SimModuleLastLoadMessage();
  if (dll->module == nullptr) return false;
  bool bound = Bind(dll->module, "dma_GetValue", &dll->engine.get);
  bound &= Bind(dll->module, "dma_SetValue", &dll->engine.set);
  bound &= Bind(dll->module, "DMA_GetValue", &dll->getValue);
  bound &= Bind(dll->module, "DMA_SetValue", &dll->setValue);
  bound &= Bind(dll->module, "DMA_GetStringData", &dll->getStringData);
  bound &= Bind(dll->module, "DMA_SetStringData", &dll->setStringData);
  bound &= Bind(dll->module, "DMA_GetLogFontData", &dll->getLogFontData);
  bound &= Bind(dll->module, "DMA_SetLogFontData", &dll->setLogFontData);
  bound &= Bind(dll->module, "DMA_GetUserSettingInfo", &dll->getUserSettingInfo);
  bound &= Bind(dll->module, "DMA_SetUserSettingInfo", &dll->setUserSettingInfo);
  return bound;
}

void UnloadQorvexData(QorvexDataExports* dll) {
  if (dll->module != nullptr) {
    EXPECT_TRUE(FreeLibrary(dll->module));
  }
  dll->module = nullptr;
}
