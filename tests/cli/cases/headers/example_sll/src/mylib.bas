Function AddTwo(ByVal a As Long, _
                ByVal b As Long) Export As Long
  Function = a + b
End Function
Class CCounter
  Interface ICounter
    Inherit IUnknown
    Method Increment(ByVal n As Long) As Long
      Method = n + 1
    End Method
  End Interface
End Class
