void pelkorlTestSupportAnchor() {}
